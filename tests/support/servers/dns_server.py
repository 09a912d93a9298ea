#!/usr/bin/env python3
"""A DNS server for the tests on 127.0.0.1. Arguments: the seconds each answer is held back,
then LABEL=REPLY pairs that answer A questions by the first label of the name ("*" for every
other label, else "nxdomain"), where REPLY is an IPv4 address, "nxdomain", "servfail" or
"silent". Prints "PORT <n>"."""

import asyncio
import socket
import struct
import sys

DELAY = float(sys.argv[1])
ANSWERS = dict(pair.split("=", 1) for pair in sys.argv[2:])
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
    def connection_made(self, transport):
        self.transport = transport

    def datagram_received(self, packet, sender):
        label = packet[13:13 + packet[12]].decode()
        reply = ANSWERS.get(label, ANSWERS.get("*", "nxdomain"))
        if reply != "silent":
            asyncio.get_running_loop().call_later(
                DELAY, self.transport.sendto, answer(packet, reply), sender)


async def serve():
    transport, _ = await asyncio.get_running_loop().create_datagram_endpoint(
        Server, local_addr=("127.0.0.1", 0))
    print("PORT %d" % transport.get_extra_info("sockname")[1], flush=True)
    await asyncio.Event().wait()


asyncio.run(serve())
