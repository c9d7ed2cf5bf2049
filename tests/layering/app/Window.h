#include "Model.h"
#if 0
#include "link/LComm.h"
#endif
