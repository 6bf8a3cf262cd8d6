#include "app/qt_shell.h"
