// Not compiled: the layer check is run on this file as if it were part of the store.
// The store sits below the engine and has no Qt, so both includes must be refused.
#include <QString>

#include "protocol/comm_engine.h"
#include "store/sql_management.h"
