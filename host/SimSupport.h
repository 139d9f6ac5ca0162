// Every simulated support interface of the unit.
#pragma once
#include "host/SimCameraControl.h"
#include "host/SimRmtResMgr.h"
#include "host/SimSetupUISupport.h"
#include "host/SimStorage.h"
#include "host/SimTextExceptions.h"
#include "host/SimTextStreams.h"
