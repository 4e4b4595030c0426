# -*- coding: utf-8 -*-
# Copyright 2026 The promcfg developers. All rights reserved.
"""promcfg.switch.identity: make a switch hold an identity.

An action, not a module: a switch's own OS often has no Python. It runs
one `promcfg-apply - --json` through the connection's shell, with the
identity as the file on standard input, and maps the JSON report to the
task's result."""

from __future__ import absolute_import, division, print_function
__metaclass__ = type

from ansible.errors import AnsibleActionFail
from ansible.module_utils.six import integer_types, string_types
from ansible.plugins.action import ActionBase

from ansible_collections.promcfg.switch.plugins.plugin_utils import promcfg_apply

ARGUMENT_SPEC = dict(
    items=dict(type='dict', required=True),
    force=dict(type='bool', default=False),
    lock=dict(type='str'),
    **promcfg_apply.COMMON_SPEC
)

# The items whose value is a decimal number; every other one is hex or
# text, which YAML quietly turns into a number when unquoted (a WWN into a
# base-60 integer, a MAC with a leading 0 into an octal one).
NUMBERS = ('product-id', 'subassy-count', 'vpd-hw-rev')


def identity_file(items):
    """The items as promcfg-apply's file and the item of each of its
    lines, or AnsibleActionFail naming every item that cannot be one."""
    bad = []
    lines = []
    names = []
    for name, value in items.items():
        # One line per item, or the line numbers of promcfg-apply's
        # problems would name the wrong item: no line break, no '=', no
        # comment.
        if (not isinstance(name, string_types) or not name.strip() or name.lstrip().startswith('#')
                or '=' in name or '\n' in name or '\r' in name):
            bad.append('%r is not an item name' % (name,))
            continue
        if name in NUMBERS:
            if not isinstance(value, string_types) and (
                    not isinstance(value, integer_types) or isinstance(value, bool)):
                bad.append('%s: %r (%s) is neither a string nor an integer' % (name, value, type(value).__name__))
                continue
        elif not isinstance(value, string_types):
            bad.append('%s: %r (%s) is not a string: quote it (unquoted, YAML reads a WWN as a base-60 '
                       'number and a MAC with a leading 0 as an octal one)' % (name, value, type(value).__name__))
            continue
        text = str(value)
        if '\n' in text or '\r' in text:
            bad.append('%s: a value is one line' % name)
            continue
        lines.append('%s = %s\n' % (name, text))
        names.append(name)
    if bad:
        raise AnsibleActionFail('items: ' + '; '.join(bad))
    return ''.join(lines), names


def as_text(items, key):
    """Items as identity file lines, for Ansible's diff."""
    return ''.join('%s = %s\n' % (i['item'], i[key]) for i in items if i.get(key) is not None)


class ActionModule(ActionBase):
    TRANSFERS_FILES = False
    _requires_connection = True

    def run(self, tmp=None, task_vars=None):
        result = super(ActionModule, self).run(tmp, task_vars)
        del tmp
        dummy, args = self.validate_argument_spec(argument_spec=ARGUMENT_SPEC)
        text, names = identity_file(args['items'])

        check = bool(self._task.check_mode)
        words = ['-', '--json']
        if check:
            words.append('--dry-run')
        if args['force']:
            words.append('--force')
        if args.get('lock'):
            words += ['--lock', args['lock']]
        words += promcfg_apply.common_options(args)

        status, report, cmd, stderr = promcfg_apply.run(self, args, words, in_data=text.encode('utf-8'))
        result.update(cmd=cmd, status=status, report=report, stderr=stderr, changed=False)
        if report is None or status != 0:
            result['failed'] = True
            result['msg'] = promcfg_apply.failure_message(status, report, stderr, names)
        if report is None:
            return result

        items = report.get('items') or []
        if check:
            # A dry run writes nothing: it says what a run would write.
            result['changed'] = bool(report.get('plan')) or any(i.get('action') == 'would write' for i in items)
            after, after_header = 'wanted', 'wanted (dry run)'
        else:
            result['changed'] = any(g.get('result') == 'written' for g in report.get('groups') or [])
            after, after_header = 'read', 'read back'
        if self._task.diff and items:
            result['diff'] = dict(before=as_text(items, 'before'), after=as_text(items, after),
                                  before_header='before', after_header=after_header)
        return result
