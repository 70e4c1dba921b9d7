#include "app/app_context.h"

namespace tovrel {

AppContext& App() {
  static AppContext app;
  return app;
}

}  // namespace tovrel
