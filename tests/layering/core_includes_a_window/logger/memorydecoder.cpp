#include "graph/ui/tfrmgraph.h"
