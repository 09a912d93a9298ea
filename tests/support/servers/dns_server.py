#!/usr/bin/env python3
"""A DNS server for the tests: answers A questions on 127.0.0.1 by the first label of the
name asked. --answer LABEL=REPLY (repeatable) and --default REPLY, where REPLY is an IPv4
address, "nxdomain", "servfail" or "silent" (no answer at all); --delay SECONDS holds each
answer back. Prints "PORT <n>" once it listens and runs until it receives SIGTERM."""

import argparse
import asyncio
import socket
import struct


def question_end(packet):
    pos = 12
    while packet[pos]:
        pos += packet[pos] + 1
    return pos + 5  # the zero length, type and class


def answer(packet, reply):
    first = packet[13:13 + packet[12]]
    header = packet[:2] + struct.pack(">H", 0x8180 | {"nxdomain": 3, "servfail": 2}.get(reply, 0))
    end = question_end(packet)
    if reply in ("nxdomain", "servfail"):
        return header + struct.pack(">HHHH", 1, 0, 0, 0) + packet[12:end]
    record = b"\xc0\x0c" + struct.pack(">HHIH", 1, 1, 60, 4) + socket.inet_aton(reply)
    return header + struct.pack(">HHHH", 1, 1, 0, 0) + packet[12:end] + record


class Server(asyncio.DatagramProtocol):
    def __init__(self, answers, default, delay):
        self.answers, self.default, self.delay = answers, default, delay

    def connection_made(self, transport):
        self.transport = transport

    def datagram_received(self, packet, sender):
        label = packet[13:13 + packet[12]].decode()
        reply = self.answers.get(label, self.default)
        if reply != "silent":
            loop = asyncio.get_running_loop()
            loop.call_later(self.delay, self.transport.sendto, answer(packet, reply), sender)


async def serve(arguments):
    answers = dict(pair.split("=", 1) for pair in arguments.answer)
    transport, _ = await asyncio.get_running_loop().create_datagram_endpoint(
        lambda: Server(answers, arguments.default, arguments.delay), local_addr=("127.0.0.1", 0))
    print("PORT %d" % transport.get_extra_info("sockname")[1], flush=True)
    await asyncio.Event().wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--answer", action="append", default=[])
    parser.add_argument("--default", default="nxdomain")
    parser.add_argument("--delay", type=float, default=0)
    asyncio.run(serve(parser.parse_args()))


if __name__ == "__main__":
    main()
