// What the PPTP and L2TP pages share: the server profile, the account with its
// MAC binding and the client scripts, built from one page's field ids.
#pragma once

#include "pages/access/ppp7.h"
#include "pages/wan/carrier_routes.h"
#include "script/form.h"

namespace rosgen {

// One VPN page's field ids and its protocol word.
struct VpnFields {
  Ascii protocol;  // "pptp" or "l2tp": names the server, client and service
  // Server profile.
  const char *range, *pool, *profile, *gateway;
  const char *compression, *vj_compression, *encryption, *tcp_mss, *only_one;
  const char *idle_on, *idle, *session_on, *session;
  // The classic rate limit is "first/second"; the two pages put the two rates in opposite
  // order. RouterOS 7 always writes the client's upload first (the router's rx).
  const char *rate_first, *rate_second;
  const char *upload, *download;
  // RouterOS 7 only: the pre-shared key of L2TP/IPsec; null where the protocol has none.
  const char* ipsec_secret;
  const char *primary_dns, *secondary_dns;
  // Account.
  const char *account_profile, *user, *password, *bind_mac, *mac;
  // Client.
  const char *client_name, *server, *server_user, *server_password, *telecom_gateway, *netcom_gateway;
};

// The server, its pool, the profile and the NAT rule; timeouts as their boxes
// give them (a page that checks them does so first).
Outcome write_vpn_server(Ctx& c, const VpnFields& f, Syntax syntax = Syntax::Classic);

// The account line. With MAC binding on, an empty MAC or the placeholder MAC
// is refused, in either syntax.
Outcome write_vpn_account(Ctx& c, const VpnFields& f, Syntax syntax = Syntax::Classic);

// Writes the client line alone, then reminds the operator that the route to
// the server must stay on the old default route.
Outcome write_vpn_client_default_route(Ctx& c, const VpnFields& f, Syntax syntax = Syntax::Classic);

// Writes the client line, the other carrier's route table through that
// carrier's gateway and a backup default route through the main carrier's
// gateway. The classic text is run through a telnet session, which the
// operator is then asked for; RouterOS 7's one command per line pastes anywhere.
Outcome write_vpn_client_routes(Ctx& c, const VpnFields& f, Carrier main_line, Syntax syntax = Syntax::Classic);

}  // namespace rosgen
