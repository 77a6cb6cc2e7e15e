#include "modeflag.h"
#include "consumer.h"
KIT_CONSUMER(Get_mode("run -M -S") == 2 && Get_mode(NULL) == 0)
