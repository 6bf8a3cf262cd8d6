#include "ui/main/form1.h"
