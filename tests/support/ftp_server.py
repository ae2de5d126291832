#!/usr/bin/python3
"""A real FTP server on 127.0.0.1 for the upload tests (pyftpdlib).

    ftp_server.py ROOT USER PASSWORD [BYTES_PER_SECOND]

Binds a free port, prints it on a line of its own and serves ROOT to USER until it is
ended. With BYTES_PER_SECOND, uploads are throttled to that rate.
"""
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def main():
    root, user, password = sys.argv[1:4]
    logging.basicConfig(level=logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.passive_ports = None
    if len(sys.argv) > 4:
        dtp = ThrottledDTPHandler
        dtp.read_limit = int(sys.argv[4])
        dtp.write_limit = int(sys.argv[4])
        handler.dtp_handler = dtp
    server = FTPServer(("127.0.0.1", 0), handler)
    print(server.address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
