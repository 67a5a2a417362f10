# request runner, request format, compression
