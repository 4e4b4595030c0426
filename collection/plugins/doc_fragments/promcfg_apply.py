# -*- coding: utf-8 -*-
# Copyright 2026 The promcfg developers. All rights reserved.
# The options every task of the collection maps to promcfg-apply's command
# line, documented once.

from __future__ import absolute_import, division, print_function
__metaclass__ = type


class ModuleDocFragment(object):
    DOCUMENTATION = r'''
options:
  timeout:
    description:
      - The seconds each run of promcfg may take, and the wait for the run lock (C(--timeout), 1 to 86400;
        promcfg-apply's default 60).
    type: int
  promcfg_apply:
    description:
      - The promcfg-apply command on the switch, as words separated by blanks (no quoting), each quoted for
        the shell. A launcher may come first, as in C(qemu-ppc -L /usr/powerpc-linux-gnu
        build-powerpc/bin/promcfg-apply).
    type: str
    default: promcfg-apply
  promcfg:
    description:
      - The promcfg that promcfg-apply runs (C(--promcfg), words separated by blanks, a launcher first if
        needed). Default, promcfg-apply's own choice, the one installed beside it.
    type: str
  layout:
    description:
      - The layout file on the switch that places the blade and Kestrel VPD fields (C(--layout)).
    type: str
'''
