// The trace points that every pitch and track drawing shares.
#include "views/trace_painting.h"

TraceColumns& shared_trace_columns() {
  static TraceColumns columns;
  return columns;
}
