# tests for the platform's core services
