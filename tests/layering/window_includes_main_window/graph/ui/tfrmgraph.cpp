#include "app/ui/tfrmmain.h"
