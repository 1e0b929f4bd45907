// Not compiled: the layer check is run on this file as if it were part of the store,
// and must accept it: it names only the store's own headers and the layers below.
#include <string>

#include "app/ini_file.h"
#include "protocol/packet.h"
#include "store/sql_management.h"
