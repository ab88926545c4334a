#include "ui/platform.h"

namespace ui {

const char* MessageKindName(MessageKind kind) {
  switch (kind) {
    case MessageKind::kInformation: return "information";
    case MessageKind::kStop: return "stop";
    case MessageKind::kAlert: return "alert";
  }
  return "message";
}

}  // namespace ui
