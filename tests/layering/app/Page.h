// A page whose window header reaches a transport two steps away.
#include "app/Window.h"
