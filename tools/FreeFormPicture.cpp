#include "tools/FreeFormPicture.h"

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "apps/vaultry/kicad/KicadFootprint.h"
#include "host/CDrwGroup.h"
#include "tools/ControlGallery.h"

namespace {

constexpr const char* kFootprint = R"((footprint "Free-form pads" (layer "F.Cu")
  (fp_rect (start -4.2 -3.2) (end 4.2 3.2) (layer "F.CrtYd") (width 0.05))
  (fp_line (start -3.6 -2.6) (end 3.6 -2.6) (layer "F.SilkS") (width 0.12))
  (pad "1" smd rect (at -3 -1.5 30) (size 1.6 0.8) (layers "F.Cu" "F.Paste" "F.Mask"))
  (pad "2" smd roundrect (at -3 1.5 -45) (size 1.6 0.8) (layers "F.Cu" "F.Mask"))
  (pad "3" smd trapezoid (at 0 -1.5) (size 1.6 1.2) (rect_delta 0 0.6) (layers "F.Cu"))
  (pad "4" smd custom (at 0 1.5) (size 0.6 0.6) (layers "F.Cu")
    (primitives (gr_poly (pts (xy -0.9 -0.7) (xy 0.9 -0.7) (xy 0.9 0.1) (xy 0 0.8)
      (xy -0.9 0.1)) (width 0))))
  (pad "5" thru_hole oval (at 3 -1.5 90) (size 2.4 1.4) (drill oval 0.6 1.6)
    (layers "*.Cu" "*.Mask"))
  (pad "" np_thru_hole circle (at 3 1.5) (size 1.2 1.2) (drill 1.2) (layers "*.Mask"))
))";

}  // namespace

bool SaveFreeFormPreview(const std::filesystem::path& folder) {
    CMSAccessDBHandler& user = *GetAccessDB(DATABASETYPE_USER);
    const vaultry::kicad::Footprint footprint = vaultry::kicad::ReadFootprint(kFootprint);
    return user.SaveObject(nullptr, footprint.part.get(), 1, "Footprint", nullptr, nullptr) &&
           SavePreview(DATABASETYPE_USER, "Free-form pads", CUnitInfo::kMillimetre,
                       folder / "preview-free-form-pads-mm.png");
}
