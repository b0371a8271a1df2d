#include "batch/method_display.h"

namespace verko {

PairingDisplay PairingMethodDisplay(int method) {
  PairingDisplay d;
  if (method == 2) {
    d.fnameShown = d.fnameReadOnly = d.extShown = d.point1Shown = d.wildcardNoteShown = true;
  } else if (method == 3) {
    d.fnameShown = d.extShown = d.point1Shown = d.newSideShown = d.matchNoteShown = true;
  }
  return d;
}

ResultNameDisplay ResultMethodDisplay(int method) {
  ResultNameDisplay d;
  if (method == 1 || method == 2) {
    d.fnameShown = d.fnameReadOnly = d.extShown = d.point2Shown = true;
  } else if (method == 5) {
    d.fnameShown = d.extShown = d.point2Shown = d.templateNoteShown = d.initNoShown = true;
  }
  return d;
}

bool ApplyPairingMethod(int method, BatchListSettings* s) {
  if (method < 0 || method > 3) return false;
  s->pairingMethod = method;
  if (method == 2) {
    s->pairingFname = "(同じﾌｧｲﾙ名)";
    s->pairingExt = "*";
  } else if (method == 3) {
    s->pairingFname.clear();
    s->pairingExt.clear();
    s->pairingFname2.clear();
    s->pairingExt2.clear();
  }
  return true;
}

bool ApplyResultMethod(int method, BatchListSettings* s) {
  if (method < 0 || method > 5) return false;
  s->resultMethod = method;
  switch (method) {
    case 0:
      s->resultFname.clear();
      s->resultExt.clear();
      break;
    case 1:
      s->resultFname = "(旧ファイル名)";
      s->resultExt = "vk";
      break;
    case 2:
      s->resultFname = "(新ファイル名)";
      s->resultExt = "vk";
      break;
    case 5:
      s->resultFname = "Result##";
      s->resultExt = "vk";
      break;
    default:  // 3 and 4 keep the texts
      break;
  }
  return true;
}

}  // namespace verko
