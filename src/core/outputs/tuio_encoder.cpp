#include "outputs/tuio_encoder.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "outputs/osc_writer.h"

namespace scantouch {
namespace {

constexpr char kProfile[] = "/tuio/2Dcur";

// A value a client can take: a position or speed that is not a number would be passed on to
// every application listening.
float Finite(double value) {
  return std::isfinite(value) ? static_cast<float>(value) : 0.0f;
}

osc::Message SourceMessage(const std::string& source) {
  osc::Message message(kProfile);
  message.addString("source").addString(source);
  return message;
}

osc::Message AliveMessage(std::span<const std::int32_t> sessions) {
  osc::Message message(kProfile);
  message.addString("alive");
  for (const std::int32_t session : sessions)
    message.addInt32(session);
  return message;
}

osc::Message SetMessage(const Contact& contact, std::int32_t session) {
  osc::Message message(kProfile);
  message.addString("set")
      .addInt32(session)
      .addFloat32(Finite(contact.u))
      .addFloat32(Finite(contact.v))
      .addFloat32(Finite(contact.velocityU))
      .addFloat32(Finite(contact.velocityV))
      .addFloat32(Finite(contact.acceleration));
  return message;
}

osc::Message FrameMessage(std::int32_t frameSequence) {
  osc::Message message(kProfile);
  message.addString("fseq").addInt32(frameSequence);
  return message;
}

}  // namespace

TuioEncoder::TuioEncoder(std::string source, std::size_t maxDatagramBytes)
    : source_(std::move(source)), maxDatagramBytes_(maxDatagramBytes) {
  // Every bundle holds source, alive, fseq and at least one set: the alive list may grow only
  // as far as that still fits. All messages of a kind have the same size whatever the values.
  const std::size_t fixed = osc::Bundle::kHeaderBytes +
                            osc::Bundle::elementSize(SourceMessage(source_)) +
                            osc::Bundle::elementSize(FrameMessage(0)) +
                            osc::Bundle::elementSize(SetMessage(Contact{}, 0));
  std::vector<std::int32_t> ids;
  while (fixed + osc::Bundle::elementSize(AliveMessage(ids)) <= maxDatagramBytes_) {
    ids.emplace_back();
  }
  maxContacts_ = ids.empty() ? 0 : ids.size() - 1;
}

TuioDatagrams TuioEncoder::encode(std::span<const Contact> live,
                                  std::span<const std::int32_t> sessions,
                                  std::int32_t frameSequence) const {
  TuioDatagrams result;
  const std::size_t count = std::min(live.size(), sessions.size());
  const std::span<const Contact> sent = live.first(std::min(count, maxContacts_));
  result.contactsLeftOut = live.size() - sent.size();

  const osc::Message source = SourceMessage(source_);
  const osc::Message alive = AliveMessage(sessions.first(sent.size()));
  const osc::Message frame = FrameMessage(frameSequence);
  const std::size_t base = osc::Bundle::kHeaderBytes + osc::Bundle::elementSize(source) +
                           osc::Bundle::elementSize(alive) + osc::Bundle::elementSize(frame);

  std::size_t next = 0;
  do {
    osc::Bundle bundle;
    bundle.add(source);
    bundle.add(alive);
    std::size_t size = base;
    while (next < sent.size()) {
      const osc::Message set = SetMessage(sent[next], sessions[next]);
      if (size + osc::Bundle::elementSize(set) > maxDatagramBytes_ && bundle.messageCount() > 2)
        break;
      size += osc::Bundle::elementSize(set);
      bundle.add(set);
      ++next;
    }
    bundle.add(frame);
    result.datagrams.push_back(bundle.bytes());
  } while (next < sent.size());
  return result;
}

}  // namespace scantouch
