// Layout recipes on views: each places the receiver against a container, a controller's safe area
// or a sibling with a fixed group of equalities, and installs every constraint on a definite view.
//
// Offsets are points in screen directions (x right, y down), so an inset from a right or bottom
// edge is negative: a one-point inset all round is 1, 1, -1, -1. A fixed width or height is held
// by the receiver; every constraint relating it to another item is held by the reference (the
// container, the controller's root view, or the container of the sibling family). The receiver
// must already lie inside the holder's subtree. A missing receiver or reference lays out nothing.
// Main-thread only.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"

class UIView;
class UIViewController;

using ViewRef = std::shared_ptr<UIView>;
using ControllerRef = std::shared_ptr<UIViewController>;

// Edges of a container `v`.
void addConstraintsFull(const ViewRef& view, const ViewRef& v, CGFloat dl, CGFloat dt, CGFloat dr, CGFloat db);
void addConstraintsLT(const ViewRef& view, const ViewRef& v, CGFloat dl, CGFloat dt, CGFloat w, CGFloat h);
void addConstraintsRT(const ViewRef& view, const ViewRef& v, CGFloat dr, CGFloat dt, CGFloat w, CGFloat h);
void addConstraintsLB(const ViewRef& view, const ViewRef& v, CGFloat dl, CGFloat db, CGFloat w, CGFloat h);
void addConstraintsRB(const ViewRef& view, const ViewRef& v, CGFloat dr, CGFloat db, CGFloat w, CGFloat h);
void addConstraintsCenter(const ViewRef& view, const ViewRef& v, CGFloat dx, CGFloat dy, CGFloat w, CGFloat h);
void addConstraintsLRC(const ViewRef& view, const ViewRef& v, CGFloat dl, CGFloat dr, CGFloat dy, CGFloat h);
void addConstraintsCTB(const ViewRef& view, const ViewRef& v, CGFloat dt, CGFloat db, CGFloat dx, CGFloat w);
void addConstraintsCT(const ViewRef& view, const ViewRef& v, CGFloat dx, CGFloat dt, CGFloat w, CGFloat h);
void addConstraintsCB(const ViewRef& view, const ViewRef& v, CGFloat dx, CGFloat db, CGFloat w, CGFloat h);
void addConstraintsLC(const ViewRef& view, const ViewRef& v, CGFloat dl, CGFloat dy, CGFloat w, CGFloat h);
void addConstraintsRC(const ViewRef& view, const ViewRef& v, CGFloat dr, CGFloat dy, CGFloat w, CGFloat h);
void addConstraintsB(const ViewRef& view, const ViewRef& v, CGFloat dl, CGFloat dr, CGFloat db, CGFloat h);
void addConstraintsT(const ViewRef& view, const ViewRef& v, CGFloat dl, CGFloat dr, CGFloat dt, CGFloat h);
void addConstraintsL(const ViewRef& view, const ViewRef& v, CGFloat dt, CGFloat db, CGFloat dl, CGFloat w);
void addConstraintsR(const ViewRef& view, const ViewRef& v, CGFloat dt, CGFloat db, CGFloat dr, CGFloat w);

// A controller's safe area. Horizontal centring follows the full root view, and the `Rh` forms
// make the height a fraction of the root view's full height.
void addConstraintsVCFull(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dt, CGFloat dr, CGFloat db);
void addConstraintsVCLT(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dt, CGFloat w, CGFloat h);
void addConstraintsVCRT(const ViewRef& view, const ControllerRef& vc, CGFloat dr, CGFloat dt, CGFloat w, CGFloat h);
void addConstraintsVCLB(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat db, CGFloat w, CGFloat h);
void addConstraintsVCRB(const ViewRef& view, const ControllerRef& vc, CGFloat dr, CGFloat db, CGFloat w, CGFloat h);
void addConstraintsVCCTB(const ViewRef& view, const ControllerRef& vc, CGFloat dt, CGFloat db, CGFloat dx, CGFloat w);
void addConstraintsVCCT(const ViewRef& view, const ControllerRef& vc, CGFloat dx, CGFloat dt, CGFloat w, CGFloat h);
void addConstraintsVCCB(const ViewRef& view, const ControllerRef& vc, CGFloat dx, CGFloat db, CGFloat w, CGFloat h);
void addConstraintsVCB(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dr, CGFloat db, CGFloat h);
void addConstraintsVCBRh(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dr, CGFloat db, CGFloat rh);
void addConstraintsVCT(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dr, CGFloat dt, CGFloat h);
void addConstraintsVCTRh(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dr, CGFloat dt, CGFloat rh);
// From just below `v` down to the safe area's bottom; from the safe area's top to just above `v`.
void addConstraintsVCBV(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dr, CGFloat db,
                        const ViewRef& v, CGFloat dt);
void addConstraintsVCTV(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dr, CGFloat dt,
                        const ViewRef& v, CGFloat db);

// Beside a sibling `v`, held by `container`. Without a W or H in the name the receiver takes the
// sibling's width or height.
void addConstraintsByViewCC(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dx, CGFloat dy);
void addConstraintsByViewCCW(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dx, CGFloat dy,
                             CGFloat w);
void addConstraintsByViewCCH(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dx, CGFloat dy,
                             CGFloat h);
void addConstraintsByViewCCWH(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dx, CGFloat dy,
                              CGFloat w, CGFloat h);
void addConstraintsByViewLC(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dl, CGFloat dy);
void addConstraintsByViewRC(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dr, CGFloat dy);
void addConstraintsByViewCT(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dx, CGFloat dt);
void addConstraintsByViewCB(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dx, CGFloat db);
void addConstraintsByViewLCW(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dl, CGFloat dy,
                             CGFloat w);
void addConstraintsByViewRCW(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dr, CGFloat dy,
                             CGFloat w);
void addConstraintsByViewCTH(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dx, CGFloat dt,
                             CGFloat h);
void addConstraintsByViewCBH(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dx, CGFloat db,
                             CGFloat h);
void addConstraintsByViewLCWH(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dl, CGFloat dy,
                              CGFloat w, CGFloat h);
void addConstraintsByViewRCWH(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dr, CGFloat dy,
                              CGFloat w, CGFloat h);
void addConstraintsByViewCTWH(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dx, CGFloat dt,
                              CGFloat w, CGFloat h);
void addConstraintsByViewCBWH(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dx, CGFloat db,
                              CGFloat w, CGFloat h);
// Over `v` (same edges with offsets), not beside it.
void addConstraintsByViewFull(const ViewRef& view, const ViewRef& container, const ViewRef& v, CGFloat dl, CGFloat dt,
                              CGFloat dr, CGFloat db);
// The gap between `vl` on the left and `vr` on the right, over the container's full height.
void addConstraintsFullByViewsX(const ViewRef& view, const ViewRef& container, const ViewRef& vl, CGFloat dl,
                                const ViewRef& vr, CGFloat dr, CGFloat dt, CGFloat db);
