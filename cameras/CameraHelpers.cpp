#include "cameras/CameraHelpers.h"

#include <algorithm>

#include "platform/codepage/CodePage.h"
#include "resources/CameraIds.h"

namespace cameras {

void HideRowsFrom(ui::Dialog& page, int count, bool withButton) {
    for (int r = std::max(count, 0); r < kMaxCameras; ++r) {
        page.ShowItem(res::cam::kRowLabel + r, false);
        page.ShowItem(res::cam::kRowField + r, false);
        if (withButton && page.HasControl(res::cam::kRowButton + r)) page.ShowItem(res::cam::kRowButton + r, false);
    }
}

void HideSecondHeadings(ui::Dialog& page) {
    page.ShowItem(res::cam::kHeadCamera2, false);
    page.ShowItem(res::cam::kHeadValue2, false);
}

}  // namespace cameras
