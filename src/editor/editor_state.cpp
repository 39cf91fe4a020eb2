#include "editor/editor_state.h"

namespace pf {

EditorState State;

}  // namespace pf
