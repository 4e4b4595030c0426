// The system PROM device as the emulated library sees it: the committed
// store on disk plus this process's staged writes, which reach the disk only
// at flush_staged(). Every function returns 0 or more on success and -1 with
// errno on failure: EBADMSG for a damaged image (whatever is staged),
// ENOENT for a missing record, ENOSPC when the records would not fit, or
// the errno of a failed file operation.
#ifndef PROMSIM_SWSERV_SYSTEM_PROM_H
#define PROMSIM_SWSERV_SYSTEM_PROM_H

#include "tlv_store.h"

#include <string>

namespace promsim {

// The committed records, without staged writes.
int load_records(Records &records);

// The state of the committed image, with the reason when damaged.
int inspect_system_prom(StoreState &state, Records &records, std::string &why);

// A record as this process sees it: staged over committed.
int read_record(uint16_t id, Bytes &data);

// Stages a write; refused at once when the image is damaged or the store
// would not hold it.
int stage_record(uint16_t id, const Bytes &data);

// Commits every staged write under the device lock, over the image as it is
// now, then forgets them. Nothing staged: nothing is written.
int flush_staged();

// Removes a record at once, and any staged write of it; ENOENT when neither
// exists.
int delete_record(uint16_t id);

// Writes a fresh empty store over whatever the device holds (damaged
// included) and forgets staged writes. `raw` erases the whole device first,
// as its own commit.
int initialize_store(bool raw);

// Writes or (data null) removes one record at once, bypassing the staging;
// removing a missing record succeeds. For promsim.
int commit_record(uint16_t id, const Bytes *data);

}  // namespace promsim

#endif
