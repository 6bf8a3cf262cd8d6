#include "ui/entry/form3.h"
