#include "platform/grid/GridWidget.h"
