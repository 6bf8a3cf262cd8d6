#include "ui/settings/form4.h"
