#include "logger/loggerdata.h"
