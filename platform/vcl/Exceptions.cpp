#include "platform/vcl/Exceptions.h"
