// Message boxes and beeps: logged here, shown and sounded by the backend.
#include "ui/message_box.h"

#include "ui/backend.h"
#include "ui/layer_state.h"

namespace ui {

int MessageBox(Dialog* owner, const char* text, const char* caption, unsigned flags) {
  MessageBoxRequest request{owner, text ? text : "", caption ? caption : "", flags};
  // Logged before it is shown, so a box that never returns is still on record.
  LayerState& state = State();
  state.messageBoxes.push_back(
      {owner ? owner->source->name : "", request.text, request.caption, flags, 0});
  size_t entry = state.messageBoxes.size() - 1;
  int answer = CurrentBackend().ShowMessageBox(request);
  State().messageBoxes[entry].answer = answer;
  return answer;
}

void Beep(BeepKind kind) {
  State().beeps.push_back(kind);
  CurrentBackend().SoundBeep(kind);
}

}  // namespace ui
