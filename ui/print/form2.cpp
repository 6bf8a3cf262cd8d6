#include "ui/print/form2.h"
