# -*- coding: utf-8 -*-
# Copyright 2026 The promcfg developers. All rights reserved.
# Documentation only: the action plugin of the same name does the work on
# the controller, so nothing here runs on the switch.

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: identity_info
short_description: The identity a switch holds, through promcfg-apply
description:
  - Reads a Fibre Channel switch's identity with one C(promcfg-apply --show --json) through the connection's
    shell, and returns it as C(items) that M(promcfg.switch.identity) takes back as they are. Writes nothing
    and takes no lock.
  - No Python is needed on the switch. The task's C(environment) is given to the command.
  - C(items) leaves out the product ID (the switch's own; an ID without a row in promcfg's product table
    would be refused), items that read as undefined, empty or not at all, and texts of 23 characters that
    the display may have cut (written back, they would cut the PROM's). C(show) has everything.
version_added: 1.0.0
author:
  - promcfg developers (@promcfg)
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
    details: reads only, also outside check mode
  connection:
    support: full
  delegation:
    support: full
  diff_mode:
    support: none
  platform:
    support: full
    platforms: posix
notes:
  - A switch that shows no item (status 3, its system PROM blank, erased or damaged) is not a failure; it gives
    empty C(items) and C(show.no_item) true. Any other status but 0 fails the task.
seealso:
  - module: promcfg.switch.identity
'''

EXAMPLES = r'''
- name: Read the switch's identity
  promcfg.switch.identity_info:
  register: switch

- name: Show it
  ansible.builtin.debug:
    var: switch['items']

- name: Make another switch hold the same identity
  promcfg.switch.identity:
    items: "{{ hostvars['sw01'].switch['items'] }}"
'''

RETURN = r'''
items:
  description: The identity, as items that M(promcfg.switch.identity) takes back; C(subassy-count) and
    C(vpd-hw-rev) are integers, the rest strings.
  returned: always
  type: dict
  sample:
    mac0: "00051e0a1b2c"
    wwn: "100000051e0a1b2c"
    chassis-sn: "CH2514K00A"
    vpd-hw-rev: 2
show:
  description: promcfg-apply's --show JSON as it gave it, with C(undefined), C(not_read), C(may_be_longer), C(not_in_file),
    C(no_item) and C(status); null when it printed none.
  returned: always
  type: dict
status:
  description: promcfg-apply's exit status (0, or 3 when the switch shows no item).
  returned: always
  type: int
  sample: 0
cmd:
  description: The command run on the switch, without the task's environment.
  returned: always
  type: str
  sample: promcfg-apply --show --json
stderr:
  description: What promcfg-apply said on standard error.
  returned: always
  type: str
  sample: ""
'''
