#include "logger/ui/dataloggercontroller.h"
