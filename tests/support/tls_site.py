#!/usr/bin/python3
"""tls_site.py CERT KEY ROOT [DELAY_MS]: serves the files under ROOT over HTTPS with HTTP/2 on
127.0.0.1, at a port the system picks, each answer DELAY_MS late (the round trip to a distant
server). Prints "port N" once it listens, then "connection" for every connection a client
opens and "GET PATH" for every request, so that a test or a benchmark counts them. Runs until it is sent SIGTERM."""
import asyncio
import mimetypes
import pathlib
import ssl
import sys
import urllib.parse

from h2.config import H2Configuration
from h2.connection import H2Connection
from h2.events import ConnectionTerminated, RequestReceived, StreamReset, WindowUpdated
from h2.exceptions import H2Error

TYPES = {".htm": "text/html", ".html": "text/html", ".css": "text/css", ".gif": "image/gif",
         ".png": "image/png", ".js": "application/javascript"}


class Site(asyncio.Protocol):
    def __init__(self, root, delay):
        self.root = root
        self.delay = delay
        self.h2 = H2Connection(H2Configuration(client_side=False))
        self.unsent = {}  # stream: the body bytes that flow control still holds back
        self.transport = None

    def connection_made(self, transport):
        self.transport = transport
        print("connection", flush=True)
        self.h2.initiate_connection()
        self.flush()

    def data_received(self, data):
        try:
            events = self.h2.receive_data(data)
        except H2Error:
            self.transport.close()
            return
        for event in events:
            if isinstance(event, RequestReceived):
                path = dict(event.headers)[b":path"].decode("latin-1")
                print("GET", path, flush=True)
                asyncio.get_running_loop().call_later(self.delay, self.answer,
                                                      event.stream_id, path)
            elif isinstance(event, WindowUpdated):
                self.send_unsent()
            elif isinstance(event, StreamReset):
                self.unsent.pop(event.stream_id, None)
            elif isinstance(event, ConnectionTerminated):
                self.transport.close()
        self.flush()

    def answer(self, stream, path):
        if self.transport.is_closing():
            return
        name = urllib.parse.unquote(urllib.parse.urlsplit(path).path).lstrip("/")
        file = (self.root / name).resolve()
        if file.is_file() and self.root in file.parents:
            status, body = "200", file.read_bytes()
            kind = TYPES.get(file.suffix) or mimetypes.guess_type(file.name)[0] or "text/plain"
        else:
            status, body, kind = "404", b"not found", "text/plain"
        try:
            self.h2.send_headers(stream, [(":status", status), ("content-type", kind),
                                          ("content-length", str(len(body)))])
        except H2Error:
            return
        self.unsent[stream] = body
        self.send_unsent()
        self.flush()

    def send_unsent(self):
        for stream in list(self.unsent):
            body = self.unsent[stream]
            try:
                while True:
                    size = min(len(body), self.h2.local_flow_control_window(stream),
                               self.h2.max_outbound_frame_size)
                    if body and size <= 0:
                        break
                    self.h2.send_data(stream, body[:size], end_stream=size == len(body))
                    body = body[size:]
                    if not body:
                        break
            except H2Error:
                body = b""
            if body:
                self.unsent[stream] = body
            else:
                del self.unsent[stream]

    def flush(self):
        self.transport.write(self.h2.data_to_send())


async def main():
    cert, key, root = sys.argv[1:4]
    delay = int(sys.argv[4]) / 1000 if len(sys.argv) > 4 else 0
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    context.set_alpn_protocols(["h2"])
    folder = pathlib.Path(root).resolve()
    server = await asyncio.get_running_loop().create_server(
        lambda: Site(folder, delay), "127.0.0.1", 0, ssl=context)
    print("port", server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


asyncio.run(main())
