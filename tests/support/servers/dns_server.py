#!/usr/bin/env python3
"""A DNS server for the tests on 127.0.0.1: answers A questions by the first label of the
name (--answer LABEL=REPLY, --default REPLY), where REPLY is an IPv4 address, "nxdomain",
"servfail" or "silent"; --delay SECONDS holds each answer back. Prints "PORT <n>"."""

import argparse
import asyncio
import socket
import struct

RCODES = {"nxdomain": 3, "servfail": 2}


def answer(packet, reply):
    end = 12
    while packet[end]:
        end += packet[end] + 1
    question = packet[12:end + 5]  # the name, its zero length, type and class
    header = packet[:2] + struct.pack(">H", 0x8180 | RCODES.get(reply, 0))
    if reply in RCODES:
        return header + struct.pack(">HHHH", 1, 0, 0, 0) + question
    record = b"\xc0\x0c" + struct.pack(">HHIH", 1, 1, 60, 4) + socket.inet_aton(reply)
    return header + struct.pack(">HHHH", 1, 1, 0, 0) + question + record


class Server(asyncio.DatagramProtocol):
    def __init__(self, arguments):
        self.answers = dict(pair.split("=", 1) for pair in arguments.answer)
        self.default, self.delay = arguments.default, arguments.delay

    def connection_made(self, transport):
        self.transport = transport

    def datagram_received(self, packet, sender):
        reply = self.answers.get(packet[13:13 + packet[12]].decode(), self.default)
        if reply != "silent":
            asyncio.get_running_loop().call_later(
                self.delay, self.transport.sendto, answer(packet, reply), sender)


async def serve(arguments):
    transport, _ = await asyncio.get_running_loop().create_datagram_endpoint(
        lambda: Server(arguments), local_addr=("127.0.0.1", 0))
    print("PORT %d" % transport.get_extra_info("sockname")[1], flush=True)
    await asyncio.Event().wait()


parser = argparse.ArgumentParser()
parser.add_argument("--answer", action="append", default=[])
parser.add_argument("--default", default="nxdomain")
parser.add_argument("--delay", type=float, default=0)
asyncio.run(serve(parser.parse_args()))
