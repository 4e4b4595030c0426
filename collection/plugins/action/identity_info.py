# -*- coding: utf-8 -*-
# Copyright 2026 The promcfg developers. All rights reserved.
"""promcfg.switch.identity_info: the identity a switch holds, read with one
`promcfg-apply --show --json` through the connection's shell (no Python
on the switch), as items that promcfg.switch.identity takes back."""

from __future__ import absolute_import, division, print_function
__metaclass__ = type

from ansible.plugins.action import ActionBase

from ansible_collections.promcfg.switch.plugins.plugin_utils import promcfg_apply

# Keys of the --show report that are about the reading, not items.
NOT_ITEMS = ('undefined', 'not_read', 'may_be_longer', 'not_in_file', 'no_item', 'status')


def give_back(show):
    """The items of a --show report that a file can give back unchanged:
    not the product ID (the switch's own; one without a row in the
    product table would be refused), no unread value, and none of those
    promcfg-apply says a file cannot give as they read (an empty text, a
    text the display may have cut, ...)."""
    kept_out = set(show.get('not_in_file') or []) | set(show.get('may_be_longer') or [])
    return dict((k, v) for k, v in show.items()
                if k not in NOT_ITEMS and k != 'product-id' and k not in kept_out and v is not None)


class ActionModule(ActionBase):
    TRANSFERS_FILES = False
    _requires_connection = True

    def run(self, tmp=None, task_vars=None):
        result = super(ActionModule, self).run(tmp, task_vars)
        del tmp
        dummy, args = self.validate_argument_spec(argument_spec=promcfg_apply.COMMON_SPEC)
        words = ['--show', '--json'] + promcfg_apply.common_options(args)
        status, show, cmd, stderr = promcfg_apply.run(self, args, words)
        result.update(cmd=cmd, status=status, show=show, stderr=stderr, changed=False)
        # Status 3: the switch shows no item; a blank switch is something
        # to report, not a failure to read it.
        if show is None or status not in (0, 3):
            result['failed'] = True
            result['msg'] = promcfg_apply.failure_message(status, show, stderr)
            result['items'] = {}
            return result
        result['items'] = give_back(show)
        return result
