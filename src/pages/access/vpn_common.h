// What the PPTP and L2TP pages share: the account's MAC binding, and the two
// client scripts with the notes shown once they are written.
#pragma once

#include <optional>
#include <string>

#include "pages/wan/carrier_routes.h"
#include "script/form.h"

namespace rosgen {

// The account's " caller-id=MAC" part, empty when binding is off. When it is on,
// an empty MAC or the placeholder MAC is refused (message shown, nothing returned).
std::optional<Gbk> bound_mac(Ctx& c, const std::string& bind_box, const std::string& mac_field);

// Writes the client line alone, then reminds the operator that the route to
// `server` must stay on the old default route.
Outcome write_client_default_route(Ctx& c, const Gbk& client_line, const Gbk& server);

// Writes the client line, the other carrier's route table through that
// carrier's gateway and a backup default route through the main carrier's
// gateway, then asks for a telnet session to run it.
Outcome write_client_routes(Ctx& c, const Gbk& client_line, Carrier main_line, const Gbk& telecom_gateway,
                            const Gbk& netcom_gateway);

}  // namespace rosgen
