# -*- coding: utf-8 -*-
# Copyright 2026 The promcfg developers. All rights reserved.
"""What both actions share: one promcfg-apply command through the
connection's shell, and its JSON report. promcfg-apply holds all the
logic; this only builds its command line and reads what it says."""

from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json
import shlex

from ansible.errors import AnsibleActionFail

# Options every action maps to promcfg-apply's command line.
COMMON_SPEC = dict(
    promcfg_apply=dict(type='str', default='promcfg-apply'),
    promcfg=dict(type='str'),
    layout=dict(type='str'),
    timeout=dict(type='int'),
)

# Group results that mean the group did not reach the PROMs in full.
GROUP_FAILURES = ('failed', 'stopped', 'timed-out', 'interrupted')


def common_options(args):
    """promcfg-apply's words for the options all actions take."""
    words = []
    if args.get('promcfg'):
        words += ['--promcfg', args['promcfg']]
    if args.get('layout'):
        words += ['--layout', args['layout']]
    if args.get('timeout') is not None:
        words += ['--timeout', str(args['timeout'])]
    return words


def run(action, args, words, in_data=None):
    """Run promcfg_apply with words on the switch; return (status, report,
    the command without its environment, stderr). report is None when
    standard output holds no JSON (promcfg-apply gives none when it could
    not start, could not read the switch or found the lock held)."""
    # Blanks separate the words, as in promcfg-apply's own --promcfg: a
    # launcher (qemu-ppc -L DIR) may come first. Each word is quoted, as
    # the task's values reach a shell.
    program = args['promcfg_apply'].split()
    if not program:
        raise AnsibleActionFail('promcfg_apply is empty: give the promcfg-apply command')
    cmd = ' '.join(shlex.quote(w) for w in program + words)
    # The low-level call leaves out the task's environment, so it goes in
    # front of the command (each emulated switch's PROMSIM_DIR comes so).
    env = action._compute_environment_string()
    full = '%s %s' % (env, cmd) if env else cmd
    res = action._low_level_execute_command(full, in_data=in_data, sudoable=True)
    report = None
    out = res.get('stdout', '')
    if out.strip():
        try:
            report = json.loads(out)
        except ValueError:
            report = None
    if not isinstance(report, dict):
        report = None
    return res['rc'], report, cmd, res.get('stderr', '')


def last_words(stderr):
    """promcfg-apply's own reason when it printed no report."""
    lines = [line.strip() for line in stderr.splitlines() if line.strip()]
    if lines:
        return '; '.join(lines[-3:])
    return 'no report and nothing on standard error'


def value_text(value):
    return 'null' if value is None else '"%s"' % value


def failure_message(status, report, stderr, names=()):
    """One line naming everything promcfg-apply refused or could not make
    true, item by item. names: the item of each line of the file given,
    as the file's problems name their line (an unknown item has no name
    of promcfg-apply's)."""
    head = 'promcfg-apply ended with status %d' % status
    if report is None:
        return '%s: %s' % (head, last_words(stderr))
    parts = []
    for p in report.get('problems') or []:
        item = p.get('item')
        line = p.get('line')
        if not item and isinstance(line, int) and 0 < line <= len(names):
            item = names[line - 1]
        parts.append('%s%s' % ('%s: ' % item if item else '', p.get('problem')))
    for g in report.get('groups') or []:
        if g.get('result') in GROUP_FAILURES:
            detail = ': %s' % g['detail'] if g.get('detail') else ''
            parts.append('%s (%s) %s%s' % (g.get('how'), g.get('group'), g.get('result'), detail))
    for i in report.get('items') or []:
        if 'result' in i and i['result'] != 'ok':
            parts.append('%s: %s (wanted %s, read %s)'
                         % (i.get('item'), i['result'], value_text(i.get('wanted')), value_text(i.get('read'))))
    if report.get('read_back_error'):
        parts.append('not read back: %s' % report['read_back_error'])
    if report.get('no_item_after') or report.get('no_item'):
        parts.append('the switch shows no item: its system PROM is blank, erased or damaged')
    if report.get('interrupted'):
        parts.append('interrupted by %s' % report['interrupted'])
    if not parts:
        return '%s: %s' % (head, last_words(stderr))
    return '%s: %s' % (head, '; '.join(parts))
