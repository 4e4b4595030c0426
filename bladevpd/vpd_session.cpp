#include "bladevpd/vpd_session.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#include "bladevpd/blade_products.h"
#include "swServerApi.h"

static_assert(sizeof(VPD_Client) <= vpd_client_storage, "VPD_Client fits its storage");
static_assert(alignof(VPD_Client) <= alignof(std::max_align_t), "malloc storage suits VPD_Client");

VPD_Client *vpd_client = nullptr;

namespace {

struct FreeStorage {
    void operator()(void *storage) const { std::free(storage); }
};

}  // namespace

int vpd_init()
{
    if (vpd_client != nullptr) {
        printf("Error! vpd_init called redundantly!\n");
        return -1;
    }
    int32_t product_id;
    if (swServGetProductID(&product_id) < 0) {
        printf("Error!  Unable read board data from system PROM!\n");
        printf("Board data must be initialized before VPD data!\n");
        return -1;
    }
    if (!find_blade_product(product_id)) {
        printf("Operation not allowed for this product type!\n");
        return -1;
    }
    std::unique_ptr<void, FreeStorage> storage(std::malloc(vpd_client_storage));
    if (!storage) {
        printf("Error!  Unable allocate memory for I2C API!\n");
        return -1;
    }
    // Should the constructor throw, `storage` is released on the way out.
    vpd_client = new (storage.get()) VPD_Client();
    storage.release();
    // A client still open when the process ends (end of input, or the
    // display command line's open-ended loop) is closed on the way out.
    // Registered after the first construction, so that the close runs
    // before whatever the library registered for exit tears it down.
    static const int close_at_exit = std::atexit(vpd_close);
    (void)close_at_exit;
    return 0;
}

void vpd_close()
{
    if (vpd_client == nullptr)
        return;
    vpd_client->~VPD_Client();
    std::free(vpd_client);
    vpd_client = nullptr;
}
