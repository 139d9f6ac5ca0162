// Every simulated support interface of the unit.
#pragma once
#include "simulator/SimCameraControl.h"
#include "simulator/SimRmtResMgr.h"
#include "simulator/SimSetupUISupport.h"
#include "simulator/SimStorage.h"
#include "simulator/SimTextExceptions.h"
#include "simulator/SimTextStreams.h"
