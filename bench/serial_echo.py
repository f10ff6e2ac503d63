#!/usr/bin/python3
"""The reference device for bench/serial_reaction: echoes every byte on the master of its
own pseudo-terminal with a select/read/write loop, after printing the slave's path."""
import os
import select
import sys
import tty

master, slave = os.openpty()
tty.setraw(slave)
print(os.ttyname(slave), flush=True)
while True:
    select.select([master], [], [])
    data = os.read(master, 65536)
    if not data:
        sys.exit(0)
    while data:
        data = data[os.write(master, data):]
