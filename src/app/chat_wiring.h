#pragma once

// The chat's place in the program: its handlers bound to the main window, and the main window's
// datagram unit set to the deployment's broadcast address and port.

#include "app/deployment.h"
#include "online/chat.h"
#include "runtime/ui_service.h"

namespace yz {

void BindChat(UiService& ui, Chat& chat);

// The probe before each message: the deployment's portal host answers within 1500 ms.
PortalProbe DeployedPortalProbe(const Deployment& deployment);

// The template with its datagram units listening on the deployment's port and broadcasting to
// its broadcast address.
WindowTemplate WithDeployedDatagramUnits(WindowTemplate window, const Deployment& deployment);

}  // namespace yz
