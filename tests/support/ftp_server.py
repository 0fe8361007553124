#!/usr/bin/python3
"""A real FTP server for the tests, on 127.0.0.1 and a free port printed on the first line.

Usage: ftp_server.py HOME [CERTFILE]
Users: "zelvan"/"secret" may do everything in HOME; "reader"/"secret" may only list and
read. With CERTFILE (key and certificate in one PEM file) the server speaks explicit TLS."""
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

home = sys.argv[1]
authorizer = DummyAuthorizer()
authorizer.add_user("zelvan", "secret", home, perm="elradfmwMT")
authorizer.add_user("reader", "secret", home, perm="elr")

handler = FTPHandler
if len(sys.argv) > 2:
    from pyftpdlib.handlers import TLS_FTPHandler, TLS_DTPHandler

    class DataHandler(TLS_DTPHandler):
        # pyftpdlib 1.5.7 closes a data channel that is asked whether it is readable
        # while its TLS handshake is still under way; keep it open until the handshake
        # is done.
        def readable(self):
            if self._ssl_accepting or self._ssl_want_read:
                return True
            return super().readable()

    class Handler(TLS_FTPHandler):
        dtp_handler = DataHandler

    Handler.certfile = sys.argv[2]
    handler = Handler
handler.authorizer = authorizer
handler.passive_ports = None
server = FTPServer(("127.0.0.1", 0), handler)
print(server.address[1], flush=True)
server.serve_forever()
