#include "foundation/AudioInfo.h"
