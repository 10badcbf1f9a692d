"""Runs a shell command on a pseudo-terminal of its own and types an answer to
each prompt ending in ": ". Prints the exit status on the first line, then all
the terminal showed."""

import os
import pty
import select
import sys
import time

command, answers = sys.argv[1], sys.argv[2:]
pid, terminal = pty.fork()
if pid == 0:
    os.execvp("sh", ["sh", "-c", command])

shown = b""
answered_up_to = 0
deadline = time.time() + 30
while time.time() < deadline:
    ready, _, _ = select.select([terminal], [], [], 0.1)
    if not ready:
        continue
    try:
        data = os.read(terminal, 4096)
    except OSError:
        break
    if not data:
        break
    shown += data
    if answers and shown[answered_up_to:].endswith(b": "):
        os.write(terminal, answers.pop(0).encode() + b"\n")
        answered_up_to = len(shown)

_, status = os.waitpid(pid, 0)
print(os.waitstatus_to_exitcode(status))
sys.stdout.buffer.write(shown)
