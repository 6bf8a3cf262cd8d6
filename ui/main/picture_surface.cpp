#include "ui/main/picture_surface.h"
