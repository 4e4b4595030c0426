# -*- coding: utf-8 -*-
# Copyright 2026 The promcfg developers. All rights reserved.
# Documentation only: the action plugin of the same name does the work on
# the controller, so nothing here runs on the switch.

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: identity
short_description: Make a switch hold an identity, through promcfg-apply
description:
  - Makes a Fibre Channel switch's PROMs hold the identity that C(items) gives (MACs, WWNs, product ID and
    code, serial numbers, subassembly IDs, ASIC MACs, CLEI code, chassis type, the blade VPD record and
    management addresses, the Kestrel VPD record), and checks that every item reads back as given.
  - Runs one C(promcfg-apply - --json) on the switch through the connection's shell, with the identity as
    the file on its standard input. promcfg-apply does all the work (see promcfg-apply(8)); this action
    maps its options to the command line and its JSON report to the result.
  - No Python is needed on the switch. The task's C(environment) is given to the command (on the emulated
    platform, C(PROMSIM_DIR) and the other test hooks).
  - What the switch holds already is not written again, so a second run reports no change.
  - In check mode, runs C(promcfg-apply --dry-run --json), which writes nothing and takes no lock.
version_added: 1.0.0
author:
  - promcfg developers (@promcfg)
options:
  items:
    description:
      - The identity, as item names of promcfg-apply's file (C(mac0), C(wwn), C(product-id), C(chassis-type),
        C(vpd-hw-rev), C(ip-address), C(kestrel-service-tag), ...) and their values. Items left out keep what
        the switch holds.
      - Give every value as a quoted string. Unquoted, YAML reads a WWN such as 10:00:00:05:12:34:50:11 as a
        base-60 number and a MAC with a leading 0 as an octal one, so anything but a string is refused,
        naming the item; only C(product-id), C(subassy-count) and C(vpd-hw-rev) may also be integers.
      - Give C(product-id) only where it has a row in promcfg's product table, or equals what the switch
        holds (a Kestrel blade, product 38, holds it from the factory).
    type: dict
    required: true
  force:
    description:
      - Write also the groups whose items the switch holds already (C(--force)).
    type: bool
    default: false
  lock:
    description:
      - The switch's run lock (C(--lock)). Default, promcfg-apply's own, C(/run/promcfg-apply.lock) on a
        switch, C(apply.lock) in C(PROMSIM_DIR) on the emulated platform.
    type: str
extends_documentation_fragment:
  - promcfg.switch.promcfg_apply
  - ansible.builtin.action_common_attributes
  - ansible.builtin.action_common_attributes.conn
  - ansible.builtin.action_common_attributes.flow
attributes:
  action:
    support: full
  async:
    support: none
  become:
    support: full
  bypass_host_loop:
    support: none
  check_mode:
    support: full
    details: runs promcfg-apply --dry-run, which writes nothing
  connection:
    support: full
  delegation:
    support: full
  diff_mode:
    support: full
    details: the items' values before, and as wanted (check mode) or read back, as identity file lines
  platform:
    support: full
    platforms: posix
notes:
  - The task fails unless promcfg-apply ends with status 0, with a message naming each item the file check
    refused, each write that failed, stopped, timed out or was interrupted, and each item that differs or
    could not be read back.
  - One run per switch at a time; a run waits for the lock at most C(timeout) seconds, then fails (status 4).
seealso:
  - module: promcfg.switch.identity_info
'''

EXAMPLES = r'''
- name: Make a product-59 blade hold its identity
  promcfg.switch.identity:
    items:
      mac0: "00:05:1e:0a:1b:2c"
      mac1: "00:05:1e:0a:1b:2d"
      wwn: "10:00:00:05:1e:0a:1b:2c"
      product-id: "59"
      board-sn: "BRW2514K00A"
      chassis-sn: "CH2514K00A"
      clei: "IPMZZ00DRA"
      chassis-type: "bc2"
      ip-address: "192.168.70.129"
      ip-gateway: "192.168.70.1"
      ip-netmask: "255.255.255.0"

- name: Identity from the host's variables, on an emulated switch
  promcfg.switch.identity:
    items: "{{ identity }}"
    lock: "{{ promcfg_lock | default(omit) }}"
  environment:
    PROMSIM_DIR: "{{ promsim_dir }}"

- name: Audit, changing nothing
  promcfg.switch.identity:
    items: "{{ identity }}"
  check_mode: true
  diff: true

- name: The PowerPC build under qemu-ppc
  promcfg.switch.identity:
    items: "{{ identity }}"
    promcfg_apply: "qemu-ppc -L /usr/powerpc-linux-gnu build-powerpc/bin/promcfg-apply"
    promcfg: "qemu-ppc -L /usr/powerpc-linux-gnu build-powerpc/bin/promcfg"
'''

RETURN = r'''
status:
  description: promcfg-apply's exit status (0 every item read back as given, 1 failed, 2 bad file, nothing
    written, 3 the switch shows no item, 4 lock held, 5 some items not read back, 128+N signal N).
  returned: always
  type: int
  sample: 0
report:
  description:
    - promcfg-apply's JSON report as it gave it; null when it printed none (it could not start promcfg, read
      the switch or take the lock; see C(stderr)).
    - After a write, C(groups) (how, group, result, detail), C(items) (item, before, wanted, read, result),
      C(read_back_error), C(no_item_before), C(no_item_after), C(interrupted), C(runs), C(status).
    - In check mode, C(items) (item, before, wanted, action), C(plan) and C(status).
    - For a bad file, C(problems) (line, item, problem), C(total) and C(status).
  returned: always
  type: dict
  sample:
    groups: [{how: "-s", group: "system data", result: "written", detail: ""}]
    items: [{item: mac0, before: null, wanted: "00051e0a1b2c", read: "00051e0a1b2c", result: ok}]
    read_back_error: null
    no_item_before: false
    no_item_after: false
    interrupted: null
    runs: 2
    status: 0
cmd:
  description: The command run on the switch, without the task's environment.
  returned: always
  type: str
  sample: promcfg-apply - --json
stderr:
  description: What promcfg-apply said on standard error.
  returned: always
  type: str
  sample: ""
'''
