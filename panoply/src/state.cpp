#include "panoply/state.h"

namespace panoply {

PluginState& State() {
  static PluginState state;
  return state;
}

}  // namespace panoply
