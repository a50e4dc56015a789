# Payload extraction: the extraction routine and its worker thread.
