#include "radar/radar_frame_rule.h"

namespace scantouch {

RadarFrameRule::RadarFrameRule(Sources sources, std::function<void()> frameDue)
    : sources_(sources), frameDue_(std::move(frameDue)) {
  // Beams drawn, contacts, other scanners or still shapes replaced and the labels laid out are the
  // model's own notifications; due() tells which part the still shapes touch.
  sources_.model.pictureChanged.connect([this] { changed(&RadarFrameParts::scan); });
  Shape& marker = sources_.model.shpmouse[0];
  marker.geometryChanged.connect([this] { changed(&RadarFrameParts::scan); });
  marker.visibilityChanged.connect([this] { changed(&RadarFrameParts::scan); });
  for (Shape* shape : {&sources_.scannerMarker, &sources_.touchRect}) {
    shape->geometryChanged.connect([this] { changed(&RadarFrameParts::backdrop); });
    shape->visibilityChanged.connect([this] { changed(&RadarFrameParts::backdrop); });
  }
  // The scale moves everything: the labels' boxes are laid out anew with it.
  sources_.picture.scaleChanged.connect([this] {
    changed(&RadarFrameParts::labels);
    changed(&RadarFrameParts::backdrop);
  });
  for (Label& label : sources_.model.lblquality) {
    label.changed.connect([this] { changed(&RadarFrameParts::labels); });
    label.visibilityChanged.connect([this] { changed(&RadarFrameParts::labels); });
  }
}

void RadarFrameRule::changed(bool RadarFrameParts::*part) {
  changed_.*part = true;
  if (announced_)
    return;
  announced_ = true;
  frameDue_();
}

RadarFrameParts RadarFrameRule::due() const {
  RadarFrameParts parts = changed_;
  // The revisions also catch beams changed without a beam drawn (a reset of the view).
  parts.scan = parts.scan || sources_.beams.revision() != paintedBeams_ ||
               sources_.model.contactsRevision() != paintedContacts_ ||
               sources_.model.otherScannersRevision() != paintedOtherScanners_;
  if (sources_.model.stillShapesRevision() != paintedStillShapesRevision_) {
    const RadarModel::StillShapes& now = sources_.model.stillShapes();
    parts.backdrop = parts.backdrop || now.outlines != paintedStillShapes_.outlines ||
                     now.masks != paintedStillShapes_.masks;
    parts.scan = parts.scan || now.dragged != paintedStillShapes_.dragged;
  }
  return parts;
}

void RadarFrameRule::painted() {
  changed_ = RadarFrameParts{};
  announced_ = false;
  paintedBeams_ = sources_.beams.revision();
  paintedContacts_ = sources_.model.contactsRevision();
  paintedOtherScanners_ = sources_.model.otherScannersRevision();
  if (sources_.model.stillShapesRevision() != paintedStillShapesRevision_) {
    paintedStillShapesRevision_ = sources_.model.stillShapesRevision();
    paintedStillShapes_ = sources_.model.stillShapes();
  }
}

}  // namespace scantouch
