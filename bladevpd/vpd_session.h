// The one blade VPD client and the products that have one.
#ifndef PROMCFG_BLADEVPD_VPD_SESSION_H
#define PROMCFG_BLADEVPD_VPD_SESSION_H

#include <cstddef>
#include <cstdint>

#include "VPD_Client.h"

// The storage the one client is made in: the size the client's library
// gives for it.
constexpr std::size_t vpd_client_storage = 1100;

// The process-wide client slot; empty when no action has a client open.
extern VPD_Client *vpd_client;

// Makes the client in the slot: 0, or -1 after printing why not (the slot
// already full, board data unreadable, a product without blade VPD, no
// memory).
int vpd_init();

// Destroys the client in the slot, if any, and empties the slot.
void vpd_close();

// An action's hold on the client: opened on construction, closed on every
// path out of the action. A refused open leaves nothing to close.
class VpdSession {
public:
    VpdSession() : open_(vpd_init() == 0) {}
    ~VpdSession()
    {
        if (open_)
            vpd_close();
    }
    VpdSession(const VpdSession &) = delete;
    VpdSession &operator=(const VpdSession &) = delete;

    bool refused() const { return !open_; }
    VPD_Client &client() const { return *vpd_client; }

private:
    bool open_;
};

#endif
