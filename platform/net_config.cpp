#include "platform/net_config.hpp"

namespace platform {

NetConfig NetConfig::ephemeral() {
    NetConfig c;
    c.direct_local_port = c.relay_host_local_port = c.relay_client_local_port = 0;
    c.listen_port = c.relay_host_port = c.relay_client_port = c.xmpp_port = 0;
    return c;
}

}  // namespace platform
