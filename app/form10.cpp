#include "app/form10.h"
