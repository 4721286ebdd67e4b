#include "pages/wan/carrier_routes.h"

#include <span>

#include "pages/ros7.h"

namespace rosgen {
namespace {

// Netcom networks, written in entry format A.
const char* const kNetcom[] = {
#include "carrier_routes_netcom.inc"
};
// Telecom networks, written in entry format B.
const char* const kTelecom[] = {
#include "carrier_routes_telecom.inc"
};

std::span<const char* const> networks(Carrier carrier) {
  if (carrier == Carrier::Netcom) return kNetcom;
  return kTelecom;
}

// Builds the table; `gateway` goes into every slot, and a CR LF ends the text when `closed`.
Gbk build(Carrier carrier, const std::string& gateway, bool closed) {
  auto rows = networks(carrier);
  std::string out;
  out.reserve(rows.size() * (120 + gateway.size()) + 16);
  out += "/ ip route \r\n";
  for (size_t i = 0; i < rows.size(); ++i) {
    bool last = i + 1 == rows.size();
    out += "add dst-address=";
    out += rows[i];
    out += " gateway=";
    out += gateway;
    if (carrier == Carrier::Netcom) {
      out += " check-gateway=ping\r\ndistance=1 scope=255 target-scope=10 comment=\"\" disabled=no";
      if (!last) out += " \r\n";
    } else {
      out += " distance=1 \r\nscope=255 check-gateway=ping target-scope=10 comment=\"\" disabled=no";
      if (!last) out += "\r\n";
    }
  }
  if (closed) out += "\r\n";
  return Gbk::from_bytes(std::move(out));
}

}  // namespace

std::size_t route_count(Carrier carrier) { return networks(carrier).size(); }

Gbk route_table(Carrier carrier) { return build(carrier, std::string(), false); }

Gbk fill_gateway(Carrier carrier, const Gbk& gateway) { return build(carrier, gateway.bytes(), true); }

Gbk backup_default_route(const Gbk& gateway) {
  return "add dst-address=0.0.0.0/0 gateway="_a + gateway +
         " check-gateway=ping distance=2\r\nscope=255 target-scope=10 comment=\"\" disabled=no"_a;
}

// Built in one string: the Telecom table runs to some 250 lines.
Gbk route_table7(Carrier carrier, const Gbk& gateway) {
  auto rows = networks(carrier);
  const std::string tail = " gateway=" + word7(gateway).bytes() + " check-gateway=ping distance=1\r\n";
  std::string out;
  out.reserve(rows.size() * (48 + tail.size()));
  for (const char* network : rows) {
    out += "/ip route add dst-address=";
    out += network;
    out += tail;
  }
  return Gbk::from_bytes(std::move(out));
}

Gbk backup_default_route7(const Gbk& gateway) {
  return "/ip route add dst-address=0.0.0.0/0 gateway="_a + word7(gateway) + " check-gateway=ping distance=2"_a;
}

// target-scope=11 lets the networks resolve through the hop's route (scope 10) but never
// through a default route (scope 30) once the hop's route is down.
Gbk carrier_routes7(Carrier carrier, const Gbk& gateway, const Gbk& comment) {
  const std::string tag = word7(comment).bytes();
  const std::string tail = std::string(" gateway=") + kCarrierHop + " target-scope=11 comment=" + tag + "\r\n";
  std::string out = "/ip route remove [find comment=" + tag + "]\r\n";
  out += std::string("/ip route add dst-address=") + kCarrierHop + "/32 gateway=" + word7(gateway).bytes() +
         " check-gateway=ping scope=10 comment=" + tag + "\r\n";
  auto rows = networks(carrier);
  out.reserve(out.size() + rows.size() * (48 + tail.size()));
  for (const char* network : rows) {
    out += "/ip route add dst-address=";
    out += network;
    out += tail;
  }
  return Gbk::from_bytes(std::move(out));
}

}  // namespace rosgen
