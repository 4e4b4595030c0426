// libi2cApi.so and libcrcApi.so: on the switch, the bus and CRC libraries
// under the blade VPD client, which the tool's link line names. The
// emulators each carry the support code they share, hidden, so these two
// stand-ins hold and export nothing: the tool cannot come to depend on them.
