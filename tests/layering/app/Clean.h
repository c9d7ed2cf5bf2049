// A page that reaches the model only.
#include "app/Model.h"
#include <vector>
