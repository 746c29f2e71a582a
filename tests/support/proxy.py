#!/usr/bin/python3
"""proxy.py: a forward proxy on 127.0.0.1, at a port the system picks, as a company's would be:
CONNECT opens a tunnel (https), an absolute address is fetched for the client (http). Prints
"port N" once it listens, then the method and target of every request, so that a test sees what
went through it. Runs until it is sent SIGTERM."""
import asyncio
import urllib.parse


async def pipe(reader, writer):
    try:
        while data := await reader.read(65536):
            writer.write(data)
            await writer.drain()
    except ConnectionError:
        pass
    finally:
        if writer.can_write_eof():
            writer.write_eof()


async def handle(reader, writer):
    try:
        head = (await reader.readuntil(b"\r\n\r\n")).decode("latin-1")
        lines = head.split("\r\n")
        method, target, _ = lines[0].split(" ", 2)
        print(method, target, flush=True)
        if method == "CONNECT":
            host, port = target.rsplit(":", 1)
            up_reader, up_writer = await asyncio.open_connection(host, int(port))
            writer.write(b"HTTP/1.1 200 Connection established\r\n\r\n")
            await asyncio.gather(pipe(reader, up_writer), pipe(up_reader, writer))
        else:
            url = urllib.parse.urlsplit(target)
            up_reader, up_writer = await asyncio.open_connection(url.hostname, url.port or 80)
            path = (url.path or "/") + ("?" + url.query if url.query else "")
            kept = [line for line in lines[1:] if line and not line.lower().startswith(
                ("connection:", "proxy-connection:", "keep-alive:"))]
            request = "\r\n".join([f"{method} {path} HTTP/1.1", *kept, "Connection: close"])
            up_writer.write((request + "\r\n\r\n").encode("latin-1"))
            await pipe(up_reader, writer)
        up_writer.close()
    except (ConnectionError, asyncio.IncompleteReadError, ValueError, OSError):
        pass
    writer.close()


async def main():
    server = await asyncio.start_server(handle, "127.0.0.1", 0)
    print("port", server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


asyncio.run(main())
