// What the batch window shows for a pairing method and for a naming method: which template
// fields are visible or read-only, and the texts they are preset with when a method is
// chosen. The window applies these; the presets are applied to the settings here.
#pragma once

#include "batch/batch_types.h"

namespace verko {

struct PairingDisplay {
  bool fnameShown = false;  // TxtPairingFname
  bool fnameReadOnly = false;
  bool extShown = false;      // TxtPairingExt
  bool point1Shown = false;   // LabelPoint1
  bool newSideShown = false;  // TxtPairingFname2, TxtPairingExt2, LabelPoint3, LabelPairPattern
  bool wildcardNoteShown = false;  // LabelPairing1
  bool matchNoteShown = false;     // LabelPairing2
};

struct ResultNameDisplay {
  bool fnameShown = false;  // TxtResultFname
  bool fnameReadOnly = false;
  bool extShown = false;           // TxtResultExt
  bool point2Shown = false;        // LabelPoint2
  bool templateNoteShown = false;  // LabelResultName
  bool initNoShown = false;        // LabelInitNo, TxtInitNo
};

PairingDisplay PairingMethodDisplay(int method);
ResultNameDisplay ResultMethodDisplay(int method);

// Choosing a method: sets it in `settings` with its preset texts. A method outside the list
// changes nothing and returns false.
bool ApplyPairingMethod(int method, BatchListSettings* settings);
bool ApplyResultMethod(int method, BatchListSettings* settings);

}  // namespace verko
