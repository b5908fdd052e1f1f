#include "TessalyFixture.h"
