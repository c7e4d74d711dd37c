#!/usr/bin/env python3
"""A loopback web server that answers the updater with bodies of no announced length.

Measures what the updater holds in memory while such bodies arrive:

    tools/hostileserver/hostile_server.py [--size MiB] [--port PORT]

prints the port it listens on, then serves until it is stopped:

  /list.upd      a list that starts as a valid one and then claims a 60 MiB name, sent chunked
                 (SIZE MiB in all)
  /http10.upd    the same as HTTP/1.0 without Content-Length, ending when the connection closes
  /file.upd      a valid list with one update "Big" of one 504-byte file, storage\\big.cs
  /files/big.cs  that file's answer: SIZE MiB sent chunked

See README.md ("Memory while bodies arrive") for the measurement it serves.
"""

import argparse
import socket
import socketserver
import struct
import sys

PIECE = b"a" * (1 << 20)


def text(value: bytes) -> bytes:
    assert len(value) < 255
    return bytes([len(value)]) + value


def list_head(records: int) -> bytes:
    return b"UPDATE\x01" + struct.pack("<I", records)


def file_list(base_url: bytes) -> bytes:
    record = (b"\x01" + text(b"Big") + text(b"storage\\") + text(base_url)
              + struct.pack("<H", 1) + text(b"big.cs") + text(b"") + struct.pack("<I", 504)
              + b"\x01\x00")
    return list_head(1) + record


def name_claim(length: int) -> bytes:
    return b"\x01\xff\xff\xff" + struct.pack("<I", length)


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        request = b""
        while b"\r\n\r\n" not in request:
            got = self.request.recv(65536)
            if not got:
                return
            request += got
        path = request.split(b" ", 2)[1]
        size = self.server.size
        try:
            if path == b"/list.upd":
                self.stream(b"HTTP/1.1", list_head(1) + name_claim(60 << 20), size, True)
            elif path == b"/http10.upd":
                self.stream(b"HTTP/1.0", list_head(1) + name_claim(60 << 20), size, False)
            elif path == b"/file.upd":
                port = self.server.server_address[1]
                body = file_list(b"http://127.0.0.1:%d/files/" % port)
                self.request.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n"
                                     b"Connection: close\r\n\r\n" % len(body) + body)
            elif path == b"/files/big.cs":
                self.stream(b"HTTP/1.1", b"", size, True)
            else:
                self.request.sendall(b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n"
                                     b"Connection: close\r\n\r\n")
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client gave up, as it should

    def stream(self, version: bytes, head: bytes, size: int, chunked: bool):
        headers = version + b" 200 OK\r\nConnection: close\r\n"
        if chunked:
            headers += b"Transfer-Encoding: chunked\r\n"
        self.request.sendall(headers + b"\r\n")
        sent = 0
        pieces = [head] if head else []
        while sent < size:
            piece = pieces.pop() if pieces else PIECE[: min(len(PIECE), size - sent)]
            sent += len(piece)
            if chunked:
                self.request.sendall(b"%x\r\n" % len(piece) + piece + b"\r\n")
            else:
                self.request.sendall(piece)
        if chunked:
            self.request.sendall(b"0\r\n\r\n")
        self.request.shutdown(socket.SHUT_WR)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--size", type=int, default=1536, help="MiB in each long body")
    parser.add_argument("--port", type=int, default=0)
    options = parser.parse_args()
    with Server(("127.0.0.1", options.port), Handler) as server:
        server.size = options.size << 20
        print(server.server_address[1], flush=True)
        server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
