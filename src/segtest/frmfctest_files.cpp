// The file commands of the test window: segmented examples, the plain text with separators, the
// segmentation result and the statistics report.
#include "segtest/frmfctest.h"

namespace orvane {

void frmFcTest::mnuOpenExample_Click() {}
void frmFcTest::mnuSaveResult_Click() {}
void frmFcTest::mnuSaveTestFile_Click() {}
void frmFcTest::mnuStaSave_Click() {}

} // namespace orvane
