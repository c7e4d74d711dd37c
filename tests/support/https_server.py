"""An https server for the tests, of another make than the program's TLS: it serves the files of
the current folder on a loopback port, a request at a time, each connection on its own thread.
It prints ACCEPT once it listens.

    https_server.py PORT CERTIFICATE KEY
"""

import http.server
import ssl
import sys


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def main():
    port, certificate, key = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Quiet)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    print("ACCEPT", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
